#include "ui/drop_target.h"

#include <string>
#include <vector>

#include "files/target_collection.h"
#include "ui/wx_text.h"

bool MainDropTarget::OnDropFiles(wxCoord /*x*/, wxCoord /*y*/, const wxArrayString& names) {
  std::vector<std::string> paths;
  paths.reserve(names.size());
  for (const wxString& name : names) paths.push_back(fromWx(name));
  roads_.drop(paths);
  return true;
}
