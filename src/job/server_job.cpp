// Making a server job from a job template state, and asking a job for its
// server documents folder.
#include <cstdint>

#include "ZarnServerJobUtils.h"
#include "frame/call_frame.h"
#include "host/create.h"

namespace AppUtils::Document {
namespace {

// In-process, local and remote servers together (21).
constexpr std::uint32_t kServerJobContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

}  // namespace

CfxComPtr<ISBZarnServerJob> CreateZarnServerJob(const CfxVariant& jobArgument, ISBState* templateState,
                                                const std::string& jobText, ISBContainerRoot* root,
                                                bool useInputFolder) {
  zarn::RequireArgument(templateState, "No job template state provided.");

  // The outcome of the creation is not looked at: a creation that made
  // nothing leaves the reference empty, and the null check before
  // Initialize raises. Until the job is returned, any raise releases it.
  CfxComPtr<ISBZarnServerJob> job;
  static_cast<void>(CfxCreateImpl(CLSID_ZarnServerJob, nullptr, kServerJobContext, InterfaceIdOf<ISBZarnServerJob>,
                                  job.put_void(), 0));

  const CfxBSTR inputFolder = useInputFolder ? CfxBSTR(OLESTR("Input")) : CfxBSTR();
  const auto jobHost = CfxComPtr<ISBJobHost>::Query(root);  // stays empty without a container

  // The argument goes by value as a shallow copy: the caller keeps what it holds.
  const VARIANT argument = jobArgument;
  zarn::CheckStatus(zarn::NotNull(job)->Initialize(jobHost.get(), templateState, argument, inputFolder.in()));

  const CfxBSTR text(jobText);
  zarn::CheckStatus(zarn::NotNull(job)->SetJobText(text.in()));
  return job;
}

CfxBSTR ServerDocumentsFolder(ISBZarnServerJob* job, ISBContainerRoot* /*root*/) {
  zarn::RequireArgument(job, "Need a job to name its server documents folder");
  CfxBSTR folder;
  folder.CopyOnWrite();
  zarn::CheckStatus(job->GetDocumentsFolder(folder.out()));
  return folder;
}

}  // namespace AppUtils::Document
