#pragma once
// The login screen's close question: "exit the launcher?". Confirmed, the
// process ends at once with code 0; declined, nothing happens.
void AskToQuitLauncher();
