#pragma once
// Layering check fixture: Qt and a folder above platform/.
#include <QString>

#include "biz/DataHelper.h"
