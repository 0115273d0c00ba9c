// Turns a local path or a URI text into a CheckTarget, or into nothing.
//
//   a path ending in ".url" (any case)  the target of the "URL" value of its
//                                       "InternetShortcut" section ("?" when
//                                       missing), read as a URI text
//   any other path                      File, the path unchanged
//   a URI text without scheme           read again with "http:" (and "//"
//                                       when it has no host) in front
//   scheme "http"                       Http, URI::toString()
//   scheme "file"                       File, "//" + authority when there is
//                                       one, then the unescaped path
//   any other scheme (also "HTTP")      nothing
//
// The file pane's AddFile and AddUri call these and own what they return.
// Safe to call from any thread.
#ifndef TESSAVO_ENGINE_TARGET_CONSTRUCTION_H_
#define TESSAVO_ENGINE_TARGET_CONSTRUCTION_H_

#include <memory>
#include <string>

#include "engine/check_target.h"

// Null when a shortcut's URL gives no target.
std::unique_ptr<CheckTarget> targetFromPath(const std::string& path);

// Null for a scheme other than "http" and "file".
std::unique_ptr<CheckTarget> targetFromUri(const std::string& text);

#endif  // TESSAVO_ENGINE_TARGET_CONSTRUCTION_H_
