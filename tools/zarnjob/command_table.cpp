// The commands' names, arguments, options and help texts.
#include <algorithm>

#include "commands.h"

namespace zarnjob {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {{"message",
        {"ID"},
        {},
        "ID2MessageString: the message text of an identifier",
        "Prints the text ID2MessageString gives for the message identifier ID (a whole\n"
        "number), followed by a line feed. The library's message table is empty, so it says\n"
        "on stderr that there is no text instead, and exits 0."},
       RunMessage},
      {{"unescape",
        {"TEXT"},
        {},
        "UnescapeRFC1738: decode %XX escapes",
        "Prints TEXT with its RFC 1738 escapes (%XX) decoded, as bytes, then a line feed."},
       RunUnescape},
      {{"read-template",
        {"LOCATION"},
        {},
        "ReadTemplate: the text of a job template file",
        "Prints the text ReadTemplate reads from the template file at LOCATION exactly as\n"
        "it is returned (every line ends in a line feed), nothing added."},
       RunReadTemplate},
      {{"create-job",
        {"TEMPLATE"},
        {{"--text", "TEXT", "the job's text (default: empty)"},
         {"--input-folder", "", "give the job an \"Input\" folder for its inputs"}},
        "CreateZarnServerJob: a new server job from a job template",
        "Creates a server job from the job template named TEMPLATE and prints the new\n"
        "job's id alone on a line. Later commands name the job by that id."},
       RunCreateJob},
      {{"documents-folder",
        {"JOB"},
        {},
        "ServerDocumentsFolder: a job's documents folder on the server",
        "Prints the server path of the documents folder of job JOB."},
       RunDocumentsFolder},
      {{"stage",
        {"JOB", "STUDYTABLE"},
        {{"--file-area-name", "", "name the staged table after the job's file area"},
         {"--input", "", "stage it under \"Input/\""},
         {"--relative-to", "LOCATION", "name it by its path relative to LOCATION"}},
        "AddStudyTableToJob: stage a study table and its companion folder",
        "Registers the study table at STUDYTABLE as an input of job JOB and copies the\n"
        "files of its companion folder (\"NAME Files\" or \"NAME_Files\" beside it) into the\n"
        "job's documents folder on the server."},
       RunStage},
      {{"live start",
        {"JOB"},
        {},
        "StartLiveUpdates: a job starts sending live updates",
        "Starts the live updates of job JOB."},
       RunLiveStart},
      {{"live stop",
        {"JOB"},
        {},
        "StopLiveUpdates: a job stops sending live updates",
        "Stops the live updates of job JOB."},
       RunLiveStop},
      {{"run",
        {"JOB"},
        {},
        "the local server runs a job (no export)",
        "The local server runs job JOB: a result document per input and a summary in\n"
        "Results/ of its documents folder. Prints the results' server paths."},
       RunJob},
      {{"client-url",
        {"JOB", "SERVERPATH"},
        {},
        "DeduceClientUrl: the client location of a server file",
        "Prints the file path of the client location that matches SERVERPATH, a file under\n"
        "the server documents folder of job JOB."},
       RunClientUrl},
      {{"download",
        {"JOB", "SERVERFILE", "DEST"},
        {},
        "DownloadFile: copy a server file into the project",
        "Has job JOB download SERVERFILE (a server path) to the location DEST of the\n"
        "project. The file appears whole or not at all."},
       RunDownload},
      {{"import",
        {"LOCATION"},
        {{"--open-view", "", "open a view of the document instead of showing it"}},
        "ImportAndView: bring a document up to date and show it",
        "Imports the document at LOCATION, shows it and locks it for the server\n"
        "(\"Corvane Server\"). Prints the document's path. A lock or unlock the host\n"
        "refused is said on stderr, one line per document, and the command exits 1."},
       RunImport},
      {{"refresh",
        {"LOCATION"},
        {{"--open-view", "", "open a view of each document instead of showing it"},
         {"--recursive", "", "the documents in its subfolders too"}},
        "RefreshResults: import every document under a location",
        "Imports and shows every document that LOCATION lists and leaves each unlocked.\n"
        "A folder lists the documents in it, not its subfolders (\"Folders=No\" is added\n"
        "to its query); with --recursive, the documents in every subfolder too."},
       RunRefresh},
      {{"lock",
        {"LOCATION"},
        {},
        "SetDocumentLock: lock documents for the server",
        "Locks every document that LOCATION lists for the server (\"Corvane Server\").\n"
        "Each document whose lock the host refused is named on stderr with the host's\n"
        "reason, and the command exits 1."},
       RunLock},
      {{"unlock",
        {"LOCATION"},
        {},
        "SetDocumentLock: lift the server's lock",
        "Lifts the server's lock from every document that LOCATION lists. Each document\n"
        "whose unlock the host refused is named on stderr with the host's reason, and the\n"
        "command exits 1."},
       RunUnlock},
      {{"real-path",
        {"DOCUMENT"},
        {},
        "GetPathToRealFile: a real file with a document's content",
        "Prints the path of a real file with the content of the document at DOCUMENT: its\n"
        "own file, or for a virtual document a copy written into the workspace folder."},
       RunRealPath},
      {{"hide",
        {"LOCATION"},
        {},
        "HideFiles: hide what a location lists",
        "Hides every entry that LOCATION lists from the project view. A folder location\n"
        "lists its entries; add \"?Recursive=Yes\" to a file: URL for its subfolders too."},
       RunHide},
      {{"hide-dependent",
        {"LOCATION"},
        {{"--recursive", "", "look into subfolders too"}},
        "HideDependentFiles: hide the files that belong to documents",
        "Hides the dependent files of the documents LOCATION lists: a study table's\n"
        "companion folder, and files beside a document whose extensions its file type\n"
        "names (see .zarn/filetypes). The documents themselves stay visible."},
       RunHideDependent},
      {{"view",
        {},
        {},
        "the project view (no export)",
        "Prints every entry of the project, one a line, sorted by path: the path relative\n"
        "to the project, \"/\" after folders, then \" [hidden]\" and \" [locked by OWNER]\"\n"
        "where they apply. A path with a control character, '[', '\"' or '\\' is printed\n"
        "in double quotes with C escapes. The host's own folders (.zarn/, and the server\n"
        "folder and workspace in the project) are left out. An entry that cannot be\n"
        "listed is named on stderr, and the command then exits 1."},
       RunView},
      {{"demo",
        {"[DIR]"},
        {},
        "the whole road in a sample project, narrated",
        "Makes a sample project in DIR (a new or empty folder; default: a new temporary\n"
        "folder, printed first) and walks it through every export: a template, a job, its\n"
        "study table, live updates, the run, its results mapped, downloaded, imported,\n"
        "refreshed, locked and unlocked, a real file for a virtual document, hidden files.\n"
        "One line per step, then the project view. With --trace, every host call too."},
       RunDemo},
  };
  return commands;
}

std::vector<const CommandSpec*> CommandSpecs() {
  std::vector<const CommandSpec*> specs;
  for (const Command& command : Commands()) specs.push_back(&command.spec);
  return specs;
}

const Command& CommandOf(const CommandSpec* spec) {
  const auto& commands = Commands();
  return *std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return &c.spec == spec; });
}

}  // namespace zarnjob
