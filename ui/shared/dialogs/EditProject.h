#pragma once
// The project sheet (Details, Notes). The caller owns the project.
class CProject;

// The result of the project's Save when the user confirmed with a non-empty description and
// the project changed; otherwise 0.
int EditProject(CProject* pProject);
