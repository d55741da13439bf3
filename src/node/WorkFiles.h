#pragma once

#include <QString>

// Fixes the session's work folder and the path of every work file in it: the
// request and response files, the catalogues, the alias and discovery files.
void SetWorkFiles(const QString& workDir);
