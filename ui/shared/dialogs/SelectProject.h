#pragma once
// The project picker: the installed host's (ui/shared/AppHost.h), each program's own Manage
// Clients and Projects dialog in select mode.
class CProject;

// The caller sets the project's RefID to the project to highlight (possibly empty). 0 on
// Cancel or without a host; after OK the project's ID is the chosen one and the result is that
// of its Load (non-zero when read, after which the project holds the chosen project's fields).
int SelectProject(CProject* pProject);
