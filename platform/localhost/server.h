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
//   <server>/state.lock            the server's state lock (state_lock.h)
//   <server>/partial/              temporaries of writes into the server
//
// Every change of a job's settings or inputs, and the making of a job and
// its id, runs under the server's state lock. The server serves, copies and
// runs only files whose real location (links resolved) lies in its folder.
#pragma once

#include <functional>
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

  std::string LockFile() const { return root_ + "/state.lock"; }
  std::string Scratch() const { return root_ + "/partial"; }

  // Job ids in ascending order.
  std::vector<std::string> JobIds() const;
  std::string JobFolder(std::string_view id) const;  // whether or not it exists

  // Throws CfxResult E_ACCESSDENIED naming the path and the rule unless the
  // real location of `path` lies in the real location of `folder`.
  static void RequireReadWithin(const std::string& path, const std::string& folder, const std::string& what);
  // The real location a file written at `path` lands at, which must lie in
  // `folder` (see RequireReadWithin); gives that location.
  static std::string RequireWriteWithin(const std::string& path, const std::string& folder, const std::string& what);

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
  // The largest job id; a server whose ids reach it makes no more jobs.
  static constexpr unsigned long kLargestId = 999999999;

  // Throws CfxResult E_FILE_NOT_FOUND "no such job" when the job's folder or
  // settings are missing. The project is the one whose client the job serves.
  JobRecord(Server server, std::string id, std::string projectFolder);
  // A new job with its folders, made whole or not at all (under the server's
  // state lock); the client folder lies in the project.
  static JobRecord Create(const Server& server, const std::string& projectFolder);

  const std::string& Id() const { return id_; }
  const Server& TheServer() const { return server_; }
  std::string Folder() const { return server_.JobFolder(id_); }
  std::string DocumentsFolder() const { return Folder() + "/Documents"; }
  std::string ServerDocumentsFolder() const { return "/jobs/" + id_ + "/Documents"; }

  const std::string& ProjectFolder() const { return projectFolder_; }

  std::string Get(std::string_view key) const;
  void Set(std::string_view key, std::string value);
  void Update(const Settings& changes);
  // Reads the settings, lets `change` change them and writes them, all under
  // the server's state lock. What `change` throws leaves them as they were.
  void Modify(const std::function<void(Settings&)>& change);

  // The client folder, checked: it lies in the project, outside .zarn/.
  std::string ClientFolder() const;

  std::vector<JobInput> Inputs() const;
  // Uploads the client file to Documents/<name> and records it (a second
  // input of one name replaces the first). The name is a relative path
  // without '.' or '..' elements, outside Results/, whose real location
  // stays in Documents. Only a regular file is taken.
  void AddInput(const std::string& name, const std::string& source);

  // Writes a result document per input (Results/inputs/<input name>.txt)
  // and a summary (Results/summary.txt) into Documents and marks the job
  // finished. Gives the results' server paths. Inputs are read in blocks.
  // An input whose name or real location leaves Documents is refused, and
  // so is one that is no regular file.
  std::vector<std::string> Run();

 private:
  Server server_;
  std::string id_;
  std::string projectFolder_;
};

// Throws CfxResult E_INVALIDARG unless `name` is a relative path with '/'
// separators and no '.' or '..' elements, outside Results/ (the results').
void RequireInputName(const std::string& name);

}  // namespace zarnlocal
