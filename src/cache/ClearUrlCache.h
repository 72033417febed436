#pragma once
// Empties the browser's URL cache, leaving cookie entries in place, so the
// player stays logged in.

// Deletes every listed entry without the cookie type bit; failed deletions are
// skipped. False when the cache could not be enumerated or held no entry.
bool ClearUrlCache();
