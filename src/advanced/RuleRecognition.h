#pragma once

class frmConfigAdv;

// The last two steps of the load: the presets of both QoS panels that match
// the node's classification criteria, with their port and priority fields.
void LoadAdvancedRules(frmConfigAdv* window);
void LoadQoSRule(frmConfigAdv* window);
