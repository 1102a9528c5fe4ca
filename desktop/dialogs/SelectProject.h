#pragma once
// The project picker (Manage Clients and Projects in select mode).
class CProject;

// The caller sets the project's RefID to the project to highlight (possibly empty). 0 on
// Cancel; after OK the project's ID is the chosen one and the result is that of its Load
// (non-zero when read, after which the project holds the chosen project's fields).
int SelectProject(CProject* pProject);
