#include "ui/shared/tests/TestAppHost.h"

TestAppHost::TestAppHost() : m_previous(SetAppHost(this)) { m_settings.RestoreSharedDefaults(); }

TestAppHost::~TestAppHost() { SetAppHost(m_previous); }
