#pragma once
// OpenSSL's functions, taken from the library when the first TLS session
// begins. Linked in, the library's pages would count in every run's
// resident memory (about 1.7 MB), also in the runs that never speak TLS.
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <string>

namespace tls {

struct OpenSsl {
  decltype(&::ERR_clear_error) ERR_clear_error;
  decltype(&::ERR_error_string_n) ERR_error_string_n;
  decltype(&::ERR_get_error) ERR_get_error;
  decltype(&::SSL_CTX_ctrl) SSL_CTX_ctrl;
  decltype(&::SSL_CTX_free) SSL_CTX_free;
  decltype(&::SSL_CTX_load_verify_locations) SSL_CTX_load_verify_locations;
  decltype(&::SSL_CTX_new) SSL_CTX_new;
  decltype(&::SSL_CTX_set_default_verify_paths) SSL_CTX_set_default_verify_paths;
  decltype(&::SSL_CTX_set_verify) SSL_CTX_set_verify;
  decltype(&::SSL_connect) SSL_connect;
  decltype(&::SSL_ctrl) SSL_ctrl;
  decltype(&::SSL_free) SSL_free;
  decltype(&::SSL_get0_param) SSL_get0_param;
  decltype(&::SSL_get_error) SSL_get_error;
  decltype(&::SSL_get_verify_result) SSL_get_verify_result;
  decltype(&::SSL_has_pending) SSL_has_pending;
  decltype(&::SSL_new) SSL_new;
  decltype(&::SSL_read) SSL_read;
  decltype(&::SSL_set1_host) SSL_set1_host;
  decltype(&::SSL_set_fd) SSL_set_fd;
  decltype(&::SSL_set_read_ahead) SSL_set_read_ahead;
  decltype(&::SSL_write) SSL_write;
  decltype(&::TLS_client_method) TLS_client_method;
  decltype(&::X509_VERIFY_PARAM_set1_ip_asc) X509_VERIFY_PARAM_set1_ip_asc;
  decltype(&::X509_verify_cert_error_string) X509_verify_cert_error_string;
};

// Loads the library once for the program's life; nullptr (with the reason in
// `problem`) when it or one of its functions is missing.
const OpenSsl* LoadOpenSsl(std::string& problem);

}  // namespace tls
