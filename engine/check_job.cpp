#include "engine/check_job.h"

#include "platform/processors.h"

int defaultCheckJobs() {
  return platform::processorCount();
}
