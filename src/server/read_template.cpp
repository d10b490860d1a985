// ReadTemplate: the whole text of a template file, each line ended by LF.
#include <string>

#include "ZarnServerJobUtils.h"
#include "frame/call_frame.h"
#include "frame/file_path.h"
#include "server/template_line_reader.h"

namespace AppUtils::Document {

std::string ReadTemplate(const std::string& location, ISBContainerRoot* root) {
  using namespace zarn;

  CfxComPtr<ISBUrlFactory> factory;
  CheckStatus(NotNull(root)->GetUrlFactory(factory.put()));

  CfxComPtr<ISBUrl> url;
  NotNull(factory);
  {
    const CfxBSTR text(location);
    CheckStatus(factory->CreateUrl(text.in(), url.put()));
  }
  const CfxBSTR path = FilePathOf(url.get());

  // Declared last, so the reader is closed before the path and the
  // references are released, also when the stream raises.
  TemplateLineReader reader;
  reader.OpenFile(path.ToTString());

  std::string text;
  // The line given out by the read that reached the end is still kept.
  while (!reader.AtEnd()) {
    if (const char* line = reader.ReadLine()) {
      text.append(line, reader.LineLength());
      text += '\n';
    } else {
      text += reader.Unfinished();  // the same line carries on with the next read
    }
  }
  return text;
}

}  // namespace AppUtils::Document
