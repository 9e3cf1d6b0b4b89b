// The waits of PatientFileOps on Windows: the system's tick count, and sleeps
// short enough that the window keeps painting between them.
#pragma once
#include "fileset/act/patient_file_ops.h"

class Win32RetryClock final : public RetryClock {
 public:
  uint64_t NowMs() override;
  void Wait(unsigned milliseconds, const std::function<void()>& meanwhile) override;
};
