// The environment the validator is started with.
//
// The validator reads its input, and writes its messages, in the encoding
// named by SP_ENCODING when SP_CHARSET_FIXED is set. The check run knows the
// encoding of the copy it hands over, so every validator run gets exactly
// that, whatever the user exported: a user's SP_ENCODING=UTF-8 would
// otherwise garble every message of an EUC-JP copy. SP_BCTF, an older way
// of naming the same thing, is left out for the same reason.
//
// The environment is built for the child alone; the program's own is never
// changed, so this is safe on any thread (as long as nothing calls setenv
// meanwhile).
#ifndef TESSAVO_PLATFORM_VALIDATOR_ENVIRONMENT_H_
#define TESSAVO_PLATFORM_VALIDATOR_ENVIRONMENT_H_

#include <string>
#include <vector>

namespace platform {

// The program's environment with SP_CHARSET_FIXED=YES and
// SP_ENCODING=`encoding` ("EUC-JP", "UTF-8"), as "NAME=value" texts.
std::vector<std::string> validatorEnvironment(const std::string& encoding);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_VALIDATOR_ENVIRONMENT_H_
