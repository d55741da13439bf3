#pragma once

// Shows every line of the response file, in order, in the advanced window's
// parameter list; tells the user when there is no response.
void ListResponseLines();
