#include "engine/check_target.h"

#include "net/uri.h"

const char* CheckTarget::kindName() const {
  switch (kind) {
    case TargetKind::File:
      return "file";
    case TargetKind::Http:
      // Both are downloaded the same way; only the working-set file tells
      // them apart.
      return URI(location).schemeIs("https") ? "https" : "http";
  }
  return "";
}
