// How a validator's error file names the files of one target: what it must
// know to show the file's lines (engine/error_file.h).
//
// A value; any thread.
#ifndef TESSAVO_ENGINE_ERROR_FILE_NAMES_H_
#define TESSAVO_ENGINE_ERROR_FILE_NAMES_H_

#include <string>
#include <utility>
#include <vector>

#include "platform/validator_text.h"

struct ErrorFileNames {
  // The converted copy's path as the validator was given it.
  std::string copy;
  // Pairs of (name given to the validator, real path), both ending with "/".
  std::vector<std::pair<std::string, std::string>> folders;
  // What the validator wrote its lines in.
  platform::ValidatorEncoding encoding = platform::ValidatorEncoding::EucJp;
};

#endif  // TESSAVO_ENGINE_ERROR_FILE_NAMES_H_
