// The local server: a folder that stands for the remote server's disk.
//
// The server has paths of its own, rooted at the server folder and written
// with '/': a job's documents folder is /jobs/<id>/Documents. Server paths
// are what the job operations give and take, exactly as a remote server's
// would be; ToFilesystem maps one to the file on this machine. Backslashes
// count as separators, and a path that already is the file-system path of
// something in the server folder is taken as it is.
//
//   <server>/jobs/<id>/job         the job's settings (key = value)
//   <server>/jobs/<id>/inputs      name<TAB>client path, one input a line
//   <server>/jobs/<id>/Documents/  the job's documents: inputs, copies, results
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "localhost/text_file.h"

namespace zarnlocal {

class Server {
 public:
  explicit Server(std::string root) : root_(std::move(root)) {}

  const std::string& Root() const { return root_; }
  // Throws CfxResult E_INVALIDARG for a path that leaves the server.
  std::string ToFilesystem(std::string_view serverPath) const;
  std::string ToServerPath(const std::string& filesystemPath) const;

  // Job ids in ascending order.
  std::vector<std::string> JobIds() const;
  // Makes the folder of a new job and gives its id.
  std::string MakeJobFolder() const;
  std::string JobFolder(std::string_view id) const;  // whether or not it exists

 private:
  std::string root_;
};

struct JobInput {
  std::string name;    // the name in the job, e.g. "Input/T.std"
  std::string source;  // the client file it was taken from
  friend bool operator==(const JobInput&, const JobInput&) = default;
};

// One job's folder and state on the server. Every read goes to the files, so
// two objects of one job, or two processes, agree.
class JobRecord {
 public:
  // Throws CfxResult E_FILE_NOT_FOUND "no such job" when the job's folder or settings are missing.
  JobRecord(Server server, std::string id);
  // A new job with its folders; the client folder lies in the project.
  static JobRecord Create(const Server& server, const std::string& projectFolder);

  const std::string& Id() const { return id_; }
  const Server& TheServer() const { return server_; }
  std::string Folder() const { return server_.JobFolder(id_); }
  std::string DocumentsFolder() const { return Folder() + "/Documents"; }
  std::string ServerDocumentsFolder() const { return "/jobs/" + id_ + "/Documents"; }

  std::string Get(std::string_view key) const;
  void Set(std::string_view key, std::string value);
  void Update(const Settings& changes);

  std::vector<JobInput> Inputs() const;
  // Uploads the client file to Documents/<name> and records it (a second
  // input of one name replaces the first).
  void AddInput(const std::string& name, const std::string& source);

  // Writes a result document per input and a summary into Documents/Results
  // and marks the job finished. Gives the results' server paths.
  std::vector<std::string> Run();

 private:
  Server server_;
  std::string id_;
};

}  // namespace zarnlocal
