// The HTTP client over libcurl, with its time limits open to tests.
#pragma once
#include "platform/Platform.h"

// Limits of the game's client: a connection within 5 s, a whole request
// within 15 s, a body of at most 64 KiB.
constexpr long CurlConnectTimeoutMs = 5000;
constexpr long CurlRequestTimeoutMs = 15000;
constexpr size_t CurlMaxBodyBytes = 64 * 1024;

// As CreateCurlHttp(), with other time limits (tests use short ones).
IHttpClient* CreateCurlHttp(long connectTimeoutMs, long requestTimeoutMs);
