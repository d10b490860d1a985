// Projects with listed documents whose dependent files can be hidden: a
// study table with its companion folders, and a model with dependent files.
#pragma once

#include "hiding/hiding_project.h"

namespace hidingtest {

// A study table T with the companion folders "T Files" and "T_Files" (which
// of them exist is up to the test), each listing its content through the
// wild-card child "*"; then a plain entry without extension.
struct StudyTable : Project {
  Object& table = Entry("T", OLESTR("/p/T.std"));
  Object& space = Location("space", OLESTR("/p/T Files"));
  Object& underscore = Location("underscore", OLESTR("/p/T_Files"));
  Object& spaceAll = host.Make("spaceAll");
  Object& underscoreAll = host.Make("underscoreAll");
  Object& spaceContent = host.Make("spaceContent");
  Object& underscoreContent = host.Make("underscoreContent");

  StudyTable(bool spaceExists, bool underscoreExists) {
    Entry("plain", OLESTR("/p/readme"));
    documents.Get<FakeDocumentManager>().types[&table] = OLESTR("SDDocuments.StudyTableDocument");
    table.Get<FakeUrl>().children = {{OLESTR("T Files/"), &space}, {OLESTR("T_Files/"), &underscore}};
    space.Get<FakeFileUrl>().exists = spaceExists ? VARIANT_TRUE : VARIANT_FALSE;
    underscore.Get<FakeFileUrl>().exists = underscoreExists ? VARIANT_TRUE : VARIANT_FALSE;
    space.Get<FakeUrl>().children[OLESTR("*")] = &spaceAll;
    underscore.Get<FakeUrl>().children[OLESTR("*")] = &underscoreAll;
    spaceAll.Add<FakeUrl>();
    underscoreAll.Add<FakeUrl>();
    spaceContent.Add<FakeUrlList>().items = {&Location("c1", OLESTR("/p/T Files/a")),
                                             &Location("c2", OLESTR("/p/T Files/sub/b"))};
    underscoreContent.Add<FakeUrlList>().items = {&Location("u1", OLESTR("/p/T_Files/a"))};
    auto& lists = factory.Get<FakeUrlServices>().lists;
    lists[&spaceAll] = &spaceContent;
    lists[&underscoreAll] = &underscoreContent;
  }
};

// model.abc, whose extension abc has the dependents def and ghi; only
// model.ghi exists.
struct ModelWithDependents : Project {
  Object& model = Entry("model", OLESTR("/p/model.abc"));
  ModelWithDependents() {
    types.Get<FakeFileTypes>().dependents[OLESTR("abc")] = {OLESTR("def"), OLESTR("ghi")};
    container.Get<FakeContainerRoot>().existingFiles = {"/p/model.ghi"};
  }
};

}  // namespace hidingtest
