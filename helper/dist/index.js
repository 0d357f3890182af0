"use strict";
// Entry of the iMessage relay, which ships separately. Until it does,
// PelkoHelper is handed this file's path, checks that it is here (the bundle
// is whole) and announces this machine to the service; it does not run it.
if (require.main === module) {
  console.error("The iMessage relay is not part of this build.");
  process.exitCode = 1;
}
