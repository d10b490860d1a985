// Scenarios of server file access: template reading (a file read at once,
// one read in pieces with a line crossing the buffer, an empty one), client
// URLs, downloads and live updates.
#include <cstdint>
#include <string>
#include <vector>

#include "ZarnServerJobUtils.h"
#include "reliability/sweep.h"
#include "server/client_url_host.h"
#include "server/download_host.h"
#include "server/template_host.h"

namespace reliability {
namespace {

using namespace AppUtils::Document;

Scenario Template(std::string name, std::string cleanEnding, std::string bytes, std::vector<std::uint32_t> chunks,
                  bool eofBeforeRead) {
  return {std::move(name), std::move(cleanEnding), [=](Probe& probe) {
            servertest::TemplateHost t;
            t.host.AddFile(servertest::TemplateHost::kPath, bytes, chunks, eofBeforeRead);
            probe.Run(t.host, [&] { return ReadTemplate("tpl", t.root.As<ISBContainerRoot>()); });
          }};
}

Scenario ClientUrl(std::string name, std::string cleanEnding, std::string serverPath, bool urlMade) {
  return {std::move(name), std::move(cleanEnding), [=](Probe& probe) {
            servertest::ClientUrlHost t;
            if (urlMade) t.Expect(OLESTR("file:C:/Projects/P1/Job17/Results/out.txt"));
            probe.Run(t.host, [&] { return t.host.Describe(t.Deduce(serverPath).get()); });
          }};
}

Scenario Download(std::string name, std::string cleanEnding, bool withDestination) {
  return {std::move(name), std::move(cleanEnding), [=](Probe& probe) {
            // The caller's source text is made before the host counts its strings.
            const CfxBSTR source("/jobs/17/Documents/out.txt");
            servertest::DownloadHost t;
            ISBUrl* destination = withDestination ? t.destination.As<ISBUrl>() : nullptr;
            probe.Run(t.host, [&] {
              DownloadFile(source, destination, t.job.As<ISBJob>());
              return std::string();
            });
          }};
}

// A running job with a live update mask; `start` and `stop` choose the calls.
Scenario LiveUpdates(std::string name, CfxWString mask, bool start, bool stop) {
  return {std::move(name), "returned", [=](Probe& probe) {
            fakehost::Host host;
            fakehost::Object& job = host.Make("job");
            job.Add<fakehost::FakeJob>().properties[OLESTR("LiveUpdateMask")] = mask;
            probe.Run(host, [&] {
              if (start) StartLiveUpdates(job.As<ISBJob>());
              if (stop) StopLiveUpdates(job.As<ISBJob>());
              return std::string();
            });
          }};
}

}  // namespace

std::vector<Scenario> ServerScenarios() {
  const std::string longLine(1500, 'x');
  return {
      Template("ReadTemplate: two lines read at once", "returned a\nb\n\n", "a\nb\n", {}, true),
      Template("ReadTemplate: a line longer than the buffer, read in pieces", "returned " + longLine + "\ny\n",
               longLine + "\r\ny", {700, 300}, false),
      Template("ReadTemplate: an empty file", "returned \n", "", {}, true),
      ClientUrl("DeduceClientUrl: a file under the documents folder", "returned made",
                "/jobs/17/Documents/Results/out.txt", true),
      ClientUrl("DeduceClientUrl: the factory makes no location", "returned null", "/jobs/17/Documents/Results/out.txt",
                false),
      ClientUrl("DeduceClientUrl: no documents folder in the path",
                "raised 0x80070057 File does not reside in server side documents folder.", "/jobs/17/out.txt", false),
      Download("DownloadFile: to a destination", "returned", true),
      Download("DownloadFile: no destination", "raised 0x80004003 Null pointer dereference.", false),
      LiveUpdates("StartLiveUpdates: a mask", OLESTR("*.sdd"), true, false),
      LiveUpdates("StartLiveUpdates: an empty mask", OLESTR(""), true, false),
      LiveUpdates("StopLiveUpdates", OLESTR("*.sdd"), false, true),
      LiveUpdates("StartLiveUpdates then StopLiveUpdates", OLESTR("*.sdd"), true, true),
  };
}

}  // namespace reliability
