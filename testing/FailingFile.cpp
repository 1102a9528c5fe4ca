#include "testing/FailingFile.h"

#include "platform/WriteFault.h"

FailingFile::FailingFile(size_t bytes, int error) { WriteFault::ArmByteLimit(bytes, error); }

FailingFile::~FailingFile() { WriteFault::Disarm(); }

bool FailingFile::Failed() const { return WriteFault::Fired(); }

size_t FailingFile::BytesWritten() const { return WriteFault::BytesWritten(); }
