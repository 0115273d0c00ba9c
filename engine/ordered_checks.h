// Checks a job's targets with several workers at once and hands the
// results over one target after the other, in the job's order.
//
// Up to job.jobs workers (threads of their own, each with a TargetChecker
// in a folder "1/", "2/", … of the run's folder) take the targets in order,
// the next free worker the next target. The calling thread hands the
// results over as soon as they are due: started(i) once target i has been
// taken up and every target before it was handed over, then done(report)
// once it is checked. So the callbacks see exactly the sequence a single
// worker would give, whatever the number of workers and however long each
// target takes, and one target's results never mix with another's.
//
// A stop request (`stop`) lets no worker take up another target and ends
// the running validators and downloads; the targets that were taken up are
// still handed over, in order, those interrupted with their not-finished
// line. A report that ends the run (the validator cannot be started) is the
// last handed over; workers still busy finish their target, whose report is
// dropped.
//
// A check that throws (memory ran out) fails its target with an "E: " line
// (engine/resource_failure.h). A callback that throws ends the handing
// over: `stop` is set, so the workers end as after a stop, and the
// exception goes on to the caller once every worker has ended.
//
// Both callbacks run on the calling thread; the workers touch nothing but
// their own checker and the shared schedule, behind one mutex. Every worker
// has ended when checkInOrder returns.
#ifndef TESSAVO_ENGINE_ORDERED_CHECKS_H_
#define TESSAVO_ENGINE_ORDERED_CHECKS_H_

#include <atomic>
#include <cstddef>
#include <functional>

#include "engine/check_job.h"
#include "engine/target_report.h"
#include "platform/run_folder.h"

struct OrderedCheckCallbacks {
  std::function<void(std::size_t index)> started;
  std::function<void(TargetReport&& report)> done;
};

// Returns how many targets were handed over (a prefix of job.targets).
std::size_t checkInOrder(const CheckJob& job, const platform::RunFolder& runFolder,
                         std::atomic<bool>& stop, const OrderedCheckCallbacks& callbacks);

#endif  // TESSAVO_ENGINE_ORDERED_CHECKS_H_
