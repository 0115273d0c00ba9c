// The environment the validator is started with.
//
// The intermediate file is always EUC-JP, so the validator is told to read
// it as such (SP_CHARSET_FIXED=YES, SP_ENCODING=EUC-JP); it then also writes
// its messages in EUC-JP. A value the user has set already is kept. Children
// inherit the program's environment, so the programs call this once at
// start, before any other thread exists (setenv is not thread-safe).
#ifndef TESSAVO_PLATFORM_VALIDATOR_ENVIRONMENT_H_
#define TESSAVO_PLATFORM_VALIDATOR_ENVIRONMENT_H_

namespace platform {

void setValidatorEnvironment();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_VALIDATOR_ENVIRONMENT_H_
