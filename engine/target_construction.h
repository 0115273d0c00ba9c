// Turns a local path or a URI text into a CheckTarget, or into nothing.
//
//   a path ending in ".url" (any case)  the target of the "URL" value of its
//                                       "InternetShortcut" section, read as
//                                       a URI text; nothing when there is
//                                       no such value or the file is not a
//                                       regular file that can be read
//   any other path                      File, the path unchanged
//   a URI text without scheme           read again with "http:" (and "//"
//                                       when it has no host) in front
//   scheme "http" or "https"            Http, URI::toString(); nothing
//                                       without a host ("http:///a")
//   scheme "file"                       File, "//" + authority when there is
//                                       one, then the unescaped path
//   any other scheme                    nothing
//
// A URI text is taken without the blanks, tabs and line ends around it; a
// text that holds a byte no URI may hold (a space, a control character,
// '"', '<', '>', DEL) gives nothing rather than being checked as the part
// before it. A shortcut is read without ever waiting (a FIFO or device in
// its place gives nothing at once) and only as far as its first 64 KiB.
//
// Scheme names are compared without regard to ASCII case ("HTTP" is
// "http"). A text that gives nothing is never dropped without a word: the
// refusal functions say why, for the URI dialog and the headless checker.
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

// Null for a scheme other than "http", "https" and "file".
std::unique_ptr<CheckTarget> targetFromUri(const std::string& text);

// Why the text or path gives no target, in the program's code page:
// "未知のスキーム：ftp（検査できるのは http、https、file のURIです）" (a
// scheme-less "host:8080/a" is shown the form to type instead), "URIに使えな
// い文字：空白（%20 と書いてください）", "ホスト名がない（http://ホスト名/… と書
// いてください）", and for a shortcut "入力ファイルを開けない: PATH: REASON" or
// "ショートカットにURLがない". Empty when a target is made.
std::string refusalOfUri(const std::string& text);
std::string refusalOfPath(const std::string& path);

#endif  // TESSAVO_ENGINE_TARGET_CONSTRUCTION_H_
