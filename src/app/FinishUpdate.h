#pragma once
#include <string>

// Run by the downloaded client started as "-d <installed executable>": copies
// this executable over the installed one, logs the result and starts the
// installed file, ending this process. Returns only when the update could not
// be finished (the failure is logged); the caller then carries on as an
// ordinary client.
void FinishUpdate(const std::wstring& commandLine);
