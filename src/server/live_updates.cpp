// Turning a running job's live updates on and off. The job itself owns the
// mask: it is read from the job's "LiveUpdateMask" property and handed back
// to the job unchanged, even when it is empty.
#include "ZarnServerJobUtils.h"
#include "frame/call_frame.h"

namespace AppUtils::Document {

void StartLiveUpdates(ISBJob* job) {
  zarn::RequireArgument(job, "Need a job to start live updates");
  CfxBSTR mask;
  {
    const CfxBSTR property(OLESTR("LiveUpdateMask"));
    mask.CopyOnWrite();
    zarn::CheckStatus(job->GetProperty(property.in(), mask.out()));
  }
  zarn::CheckStatus(job->BeginLiveUpdates(mask.in()));
}

void StopLiveUpdates(ISBJob* job) {
  zarn::RequireArgument(job, "Need a job to stop live updates");
  const CfxBSTR stop(OLESTR("1"));
  zarn::CheckStatus(job->EndLiveUpdates(stop.in()));
}

}  // namespace AppUtils::Document
