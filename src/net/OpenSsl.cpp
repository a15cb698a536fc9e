#include "net/OpenSsl.h"

#include <dlfcn.h>

#include <mutex>

namespace tls {

namespace {

// The library of the major version the program was built against.
const std::string kLibrary = "libssl.so." + std::to_string(OPENSSL_VERSION_MAJOR);

template <class Function>
bool Take(void* library, const char* name, Function& function, std::string& missing) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  if (function == nullptr && missing.empty()) missing = name;
  return function != nullptr;
}

}  // namespace

const OpenSsl* LoadOpenSsl(std::string& problem) {
  static std::once_flag once;
  static OpenSsl api;
  static std::string failure;
  std::call_once(once, [] {
    // Never unloaded: sessions may outlive any one user of it.
    void* library = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      failure = "TLS not available (" + kLibrary + " cannot be loaded)";
      return;
    }
    std::string missing;
#define FIELDCAST_TAKE(name) Take(library, #name, api.name, missing)
    FIELDCAST_TAKE(ERR_clear_error);
    FIELDCAST_TAKE(ERR_error_string_n);
    FIELDCAST_TAKE(ERR_get_error);
    FIELDCAST_TAKE(SSL_CTX_ctrl);
    FIELDCAST_TAKE(SSL_CTX_free);
    FIELDCAST_TAKE(SSL_CTX_load_verify_locations);
    FIELDCAST_TAKE(SSL_CTX_new);
    FIELDCAST_TAKE(SSL_CTX_set_default_verify_paths);
    FIELDCAST_TAKE(SSL_CTX_set_verify);
    FIELDCAST_TAKE(SSL_connect);
    FIELDCAST_TAKE(SSL_ctrl);
    FIELDCAST_TAKE(SSL_free);
    FIELDCAST_TAKE(SSL_get0_param);
    FIELDCAST_TAKE(SSL_get_error);
    FIELDCAST_TAKE(SSL_get_verify_result);
    FIELDCAST_TAKE(SSL_has_pending);
    FIELDCAST_TAKE(SSL_new);
    FIELDCAST_TAKE(SSL_read);
    FIELDCAST_TAKE(SSL_set1_host);
    FIELDCAST_TAKE(SSL_set_fd);
    FIELDCAST_TAKE(SSL_set_read_ahead);
    FIELDCAST_TAKE(SSL_write);
    FIELDCAST_TAKE(TLS_client_method);
    FIELDCAST_TAKE(X509_VERIFY_PARAM_set1_ip_asc);
    FIELDCAST_TAKE(X509_verify_cert_error_string);
#undef FIELDCAST_TAKE
    if (!missing.empty()) failure = "TLS not available (" + kLibrary + " has no " + missing + ")";
  });
  problem = failure;
  return failure.empty() ? &api : nullptr;
}

}  // namespace tls
