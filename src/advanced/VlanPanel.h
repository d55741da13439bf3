#pragma once

class frmConfigAdv;

// The VLAN panel: mode, tag and priority, checked on the host, sent together.
void ConnectVlanPanel(frmConfigAdv* window);
