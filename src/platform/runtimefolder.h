#pragma once

#include "platform/result.h"

#include <QString>

// The program's own folder for files that live only while the user's session does (the page
// preview): under the user's runtime folder, on Windows under the temporary folder, never under
// the home folder.
namespace pennoro::runtimefolder {

// The folder "pennoro" there, made for the user alone (0700) when it is missing. A runtime folder
// that may not be used is a failure, as is anything else that keeps the folder from being made.
Result<QString> ownFolder();

} // namespace pennoro::runtimefolder
