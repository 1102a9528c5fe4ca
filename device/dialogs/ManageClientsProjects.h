#pragma once
// Tools > Manage Clients and Projects: the clients and projects tree in manage mode, where
// holding the stylus on an item edits or deletes its record.

// Always 0: in manage mode OK loads no record.
int ManageClientsProjects();
