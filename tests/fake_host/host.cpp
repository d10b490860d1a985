#include "fake_host/host.h"

#include <stdexcept>
#include <utility>

#include "host/job_interfaces.h"

namespace fakehost {
namespace {

// The framework's seams are process-wide, so two Hosts would steal them from each other.
Host* liveHost = nullptr;

// "+2 (leaked)" or "-1 (over-freed)" for a count that should not have moved.
std::string Drift(std::size_t now, std::size_t baseline) {
  const auto difference = static_cast<long long>(now) - static_cast<long long>(baseline);
  return (difference > 0 ? "+" : "") + std::to_string(difference) + (difference > 0 ? " (leaked)" : " (over-freed)");
}

}  // namespace

Host::Host() {
  if (liveHost) throw std::logic_error("only one fakehost::Host may live at a time");
  liveHost = this;
  CfxRegisterClassFactory(CLSID_ZarnServerJob,
                          [this](const CfxCreateRequest& request, void** out) { return Create(request, out); });
  CfxSetFileStreamProvider([this] { return MakeFakeFileStream(*this); });
  Paths::SetBackend(&paths_);
  CfxSetTaskMemFreeObserver([this](void* block) {
    const auto label = taskMemLabels_.find(block);
    if (label == taskMemLabels_.end()) return;
    Note("CoTaskMemFree(" + label->second + ")");
    taskMemLabels_.erase(label);
  });
  stringBaseline_ = CfxLiveStringCount();
  taskMemBaseline_ = CfxLiveTaskMemCount();
}

Host::~Host() {
  CfxFailStringAllocation(0);
  CfxSetTaskMemFreeObserver({});
  Paths::SetBackend(nullptr);
  CfxSetFileStreamProvider({});
  CfxRegisterClassFactory(CLSID_ZarnServerJob, {});
  liveHost = nullptr;
}

Object& Host::Make(std::string name) {
  if (byName_.contains(name)) throw std::invalid_argument("fake object name used twice: " + name);
  objects_.push_back(std::make_unique<Object>(*this, name));
  byName_.emplace(std::move(name), objects_.back().get());
  return *objects_.back();
}

void Host::FailCall(int n, HRESULT status) { callFaults_[calls_ + n] = status; }

void Host::FailOp(std::string match, int nth, HRESULT status) { opFaults_.push_back({std::move(match), nth, status}); }

void Host::FailAllocation(std::uint64_t n) { CfxFailStringAllocation(n); }

HRESULT Host::Record(std::string line, std::string outSlots) {
  ++calls_;
  HRESULT status = S_OK;
  for (OpFault& fault : opFaults_) {
    if (line.find(fault.match) == std::string::npos) continue;
    ++fault.seen;
    if (fault.nth == 0 || fault.seen == fault.nth) status = fault.status;
  }
  if (const auto fault = callFaults_.find(calls_); fault != callFaults_.end()) status = fault->second;
  journal_.push_back(std::move(line));
  allocationsAtCalls_.push_back(CfxStringAllocationCount());
  outSlots_.push_back(std::move(outSlots));
  return status;
}

void Host::Note(std::string line) {
  journal_.push_back(std::move(line));
  allocationsAtCalls_.push_back(CfxStringAllocationCount());
  outSlots_.emplace_back();
}

void Host::JournalTaskMemFree(const void* block, std::string label) { taskMemLabels_[block] = std::move(label); }

std::string Host::OutSlotsOf(std::string_view match) const {
  for (std::size_t i = 0; i < journal_.size(); ++i) {
    if (journal_[i].find(match) != std::string::npos) return outSlots_[i];
  }
  ADD_FAILURE() << "no journal line contains " << match;
  return {};
}

void Host::RecordOrThrow(std::string line) {
  const HRESULT status = Record(std::move(line));
  if (FAILED(status)) throw CfxResult(status, "injected failure");
}

Object* Host::ObjectOf(const IUnknown* pointer) const {
  if (!pointer) return nullptr;
  const auto found = owners_.find(pointer);
  return found == owners_.end() ? nullptr : found->second;
}

void Host::IndexFacet(const IUnknown* pointer, Object& object) {
  // An object made outside the Host stays a stranger ("?") in the journal.
  const auto made = byName_.find(object.Name());
  if (made != byName_.end() && made->second == &object) owners_[pointer] = &object;
}

std::string Host::Describe(const IUnknown* pointer) const {
  if (!pointer) return "null";
  const Object* object = ObjectOf(pointer);
  return object ? object->Name() : "?";
}

void Host::AddFile(CfxWString path, std::string bytes, std::vector<std::uint32_t> chunks, bool eofBeforeRead) {
  files_[std::move(path)] = FakeFile{std::move(bytes), std::move(chunks), eofBeforeRead};
}

const FakeFile* Host::FindFile(const CfxWString& path) const {
  const auto found = files_.find(path);
  return found == files_.end() ? nullptr : &found->second;
}

HRESULT Host::Create(const CfxCreateRequest& request, void** out) {
  const HRESULT status =
      Record("CfxCreateImpl(" + nsIDToString(request.clsid) + ", " + Describe(request.outer) + ", " +
             Arg(request.context) + ", " + InterfaceName(request.iid) + ", " + Arg(request.throwFlag) + ")");
  *out = nullptr;
  if (FAILED(status) || !createdJob) return status;
  void* facet = createdJob->FacetFor(request.iid);
  if (!facet) {
    ADD_FAILURE() << "createdJob " << createdJob->Name() << " has no facet for " << InterfaceName(request.iid);
    return E_NOINTERFACE;
  }
  createdJob->AddRef();
  *out = facet;
  return status;
}

testing::AssertionResult Host::Balanced() const {
  std::string problems;
  for (const auto& object : objects_) {
    if (object->Refs() == object->held) continue;
    problems += "\n  " + object->Name() + ": " + std::to_string(object->Refs()) + " references, " +
                std::to_string(object->held) + " expected (" +
                (object->Refs() > object->held ? "leaked" : "over-released") + ")";
  }
  if (CfxLiveStringCount() != stringBaseline_) {
    problems += "\n  host strings: " + Drift(CfxLiveStringCount(), stringBaseline_);
  }
  if (CfxLiveTaskMemCount() != taskMemBaseline_) {
    problems += "\n  task memory blocks: " + Drift(CfxLiveTaskMemCount(), taskMemBaseline_);
  }
  if (problems.empty()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "host not balanced:" << problems;
}

}  // namespace fakehost
