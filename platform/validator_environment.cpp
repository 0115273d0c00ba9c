#include "platform/validator_environment.h"

#include <cstdlib>

namespace platform {

void setValidatorEnvironment() {
  ::setenv("SP_CHARSET_FIXED", "YES", 0);
  ::setenv("SP_ENCODING", "EUC-JP", 0);
}

}  // namespace platform
