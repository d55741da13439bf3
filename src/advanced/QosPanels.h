#pragma once

class frmConfigAdv;

// Connects the QoS, advanced QoS, VLAN and TCP window controls of the
// advanced window to their handlers, once, after the window is created.
void ConnectQosVlanTcp(frmConfigAdv* window);

// The two QoS panels: preset lists, port and priority fields, update buttons.
void ConnectQosPanels(frmConfigAdv* window);
