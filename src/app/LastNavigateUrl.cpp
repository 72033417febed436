#include "app/LastNavigateUrl.h"

std::wstring g_strLastNavigateUrl;
