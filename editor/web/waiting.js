// Tells `window.quillet.command` when a command stops to wait for the user (a dialog or a
// message box opened), so its promise can settle while the dialog stays open.

let listeners = [];

// Returns a promise that settles the next time the page waits for the user.
export function next_wait() {
  return new Promise(resolve => listeners.push(resolve));
}

// Called by dialogs and message boxes when they open.
export function waiting_for_user() {
  const now = listeners;
  listeners = [];
  for (const resolve of now) resolve();
}
