// The folder the HTML5 checker's service starts in.
//
// The service reads "vnu.properties" from its working folder once, while it
// starts. Ours names a stub in place of the HTML specification that the
// service would otherwise parse at every start (over a second), only to
// elaborate messages in its own HTML pages of results: the JSON answers do
// not change. A folder of our own also keeps a "vnu.properties" that
// happens to lie in the user's current folder from configuring the service.
// A jar that knows no such property starts as it always does.
#ifndef TESSAVO_ENGINE_HTML5_SERVICE_FOLDER_H_
#define TESSAVO_ENGINE_HTML5_SERVICE_FOLDER_H_

#include "platform/run_folder.h"

// Makes `folder` a new run folder in the private temporary folder, holding
// the service's "vnu.properties" and the stub. False when either cannot be
// written; the service then starts in the root folder instead, as slowly as
// before. The folder may go as soon as the service listens: it has read both
// files by then.
bool prepareHtml5ServiceFolder(platform::RunFolder* folder);

#endif  // TESSAVO_ENGINE_HTML5_SERVICE_FOLDER_H_
