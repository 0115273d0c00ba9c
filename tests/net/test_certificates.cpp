#include "test_certificates.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

namespace {

namespace fs = std::filesystem;

fs::path gFolder;

void removeFolder() {
  std::error_code ignored;
  if (!gFolder.empty()) fs::remove_all(gFolder, ignored);
}

const char kCaConfig[] =
    "[ca]\n"
    "default_ca = test\n"
    "[test]\n"
    "database = index.txt\n"
    "new_certs_dir = .\n"
    "serial = serial\n"
    "default_md = sha256\n"
    "policy = any\n"
    "copy_extensions = copy\n"
    "unique_subject = no\n"
    "[any]\n"
    "commonName = supplied\n";

const char kNewKey[] = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";

bool run(const std::string& command) {
  const std::string quiet = "cd '" + gFolder.string() + "' && " + command + " >/dev/null 2>&1";
  return std::system(quiet.c_str()) == 0;
}

// A key and a certificate request for `names`, signed by the CA; `dates`
// are the openssl ca options for its validity.
bool makeSigned(const std::string& name, const std::string& names, const std::string& dates) {
  return run("openssl req " + std::string(kNewKey) + " -keyout " + name + ".key -out " + name +
             ".csr -subj /CN=" + name + " -addext subjectAltName=" + names) &&
         run("openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -in " + name +
             ".csr -out " + name + ".pem " + dates);
}

TlsIdentity identity(const std::string& name) {
  return {(gFolder / (name + ".pem")).string(), (gFolder / (name + ".key")).string()};
}

std::unique_ptr<TestCertificates> make(std::string* message) {
  std::random_device random;
  gFolder = fs::temp_directory_path() / ("tessavo-tls-" + std::to_string(random()));
  std::error_code error;
  if (!fs::create_directory(gFolder, error)) {
    *message = "cannot create " + gFolder.string();
    return nullptr;
  }
  fs::permissions(gFolder, fs::perms::owner_all, error);
  std::atexit(removeFolder);
  std::ofstream(gFolder / "ca.cnf") << kCaConfig;
  std::ofstream(gFolder / "index.txt");
  std::ofstream(gFolder / "serial") << "01\n";

  const std::string localNames = "DNS:localhost,IP:127.0.0.1,IP:::1";
  const bool made =
      run("openssl req -x509 " + std::string(kNewKey) +
          " -keyout ca.key -out ca.pem -days 30 -subj '/CN=Tessavo Test CA'"
          " -addext basicConstraints=critical,CA:TRUE -addext keyUsage=keyCertSign,cRLSign") &&
      makeSigned("valid", localNames, "-days 30") &&
      makeSigned("wronghost", "DNS:wrong.example", "-days 30") &&
      makeSigned("expired", localNames, "-startdate 20200101000000Z -enddate 20200201000000Z") &&
      run("openssl req -x509 " + std::string(kNewKey) +
          " -keyout selfsigned.key -out selfsigned.pem -days 30 -subj /CN=localhost"
          " -addext subjectAltName=DNS:localhost,IP:127.0.0.1");
  if (!made) {
    *message = "the openssl command could not make test certificates";
    return nullptr;
  }
  auto certificates = std::make_unique<TestCertificates>();
  certificates->caFile = (gFolder / "ca.pem").string();
  certificates->valid = identity("valid");
  certificates->wrongHost = identity("wronghost");
  certificates->expired = identity("expired");
  certificates->selfSigned = identity("selfsigned");
  setenv("SSL_CERT_FILE", certificates->caFile.c_str(), 1);
  return certificates;
}

}  // namespace

const TestCertificates* testCertificates(std::string* message) {
  static std::string failure;
  static const std::unique_ptr<TestCertificates> certificates = make(&failure);
  *message = failure;
  return certificates.get();
}
