// The working-set file (".tvx"): a signature line "tvx1", then one line per
// target, kind word, TAB, location.
//
// Reading is forgiving: after the signature, lines are taken one by one in
// pieces of at most 1999 bytes; leading blanks, tabs, CRs and LFs are
// skipped; empty lines and lines starting with "#" are comments; the kind
// word is the run of letters a-z, and only "file", "http" and "https"
// followed by a TAB give a target; the location runs from after the TAB to the end of the
// line (a CR or LF ends it; blanks and tabs stay part of it). Locations go to
// the sink exactly as stored, so a relative path is relative to the current
// folder of whoever checks it. Only a regular file is read, and never waited
// for: a FIFO or device in its place cannot be opened.
//
// Writing produces exactly "tvx1" and "kind<TAB>location" lines, each ended
// by CR LF as the files have always been, so files move between platforms
// unchanged; the reader takes LF alone as well.
#ifndef TESSAVO_FILES_WORKING_SET_FILE_H_
#define TESSAVO_FILES_WORKING_SET_FILE_H_

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "files/target_sink.h"

// Reads the file at `path` into `sink`: "file" lines through AddFile, "http"
// and "https" lines through AddUri, in file order. False when the file cannot be opened
// or its first line is not the signature ("tvx1" followed by the end of the
// line, a blank, a control byte or a byte of 0x80 or above); nothing reaches
// the sink then. After the signature, reading never fails.
bool readWorkingSet(const std::string& path, TargetSink& sink);

// The same over an open stream, read from its current position.
bool readWorkingSet(std::FILE* file, TargetSink& sink);

// Writes a working set of (kind word, location) pairs to `path`, created or
// emptied. False when the file cannot be created or written completely.
bool writeWorkingSet(const std::string& path,
                     const std::vector<std::pair<std::string, std::string>>& kindAndLocation);

#endif  // TESSAVO_FILES_WORKING_SET_FILE_H_
