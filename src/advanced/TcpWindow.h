#pragma once

#include <QStringList>

class frmConfigAdv;

// The registry import that gives the host a 128 KiB TCP receive window with
// window scaling and time stamps.
QStringList TcpWindowLines();

// Hands the import file to the program the desktop opens it with, tells the
// user, then deletes the file.
void cmdTcpWindow_Click();

void ConnectTcpWindow(frmConfigAdv* window);
