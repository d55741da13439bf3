#pragma once

#include <QStringList>

// The registry import that gives the host a 128 KiB TCP receive window with
// window scaling and time stamps.
QStringList TcpWindowLines();
