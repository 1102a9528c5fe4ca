#pragma once
// The client sheet (Details, Notes). The caller owns the client.
class CClient;

// The result of the client's Save when the user confirmed with a non-empty name and the
// client changed; otherwise 0 (an empty name changes nothing, without a message).
int EditClient(CClient* pClient);
