#pragma once

struct SessionState;

// Fill the session's cached catalogue texts without any window: the
// message-box texts, and the status window's messages (what each running
// operation is doing).
void CacheMessages(SessionState& s);
void CacheStatusMessages(SessionState& s);
