// Stand-in until the HTTP client lands.
#include "platform/NullServices.h"
#include "platform/sdl/Services.h"

IHttpClient* CreateCurlHttp() { return new TNullHttp; }
