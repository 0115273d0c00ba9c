#include "engine/check_target.h"

const char* CheckTarget::kindName() const {
  switch (kind) {
    case TargetKind::File:
      return "file";
    case TargetKind::Http:
      return "http";
  }
  return "";
}
