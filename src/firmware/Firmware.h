#pragma once

// Connects the firmware handlers to the advanced window's upgrade and update
// frames. Start-up runs it once, after the windows exist.
void ConnectFirmware();
