// Runs as soon as the API module is there, before the rest of the page has loaded, so that the
// start state and the string table travel while the other modules are still arriving.
import { start_state } from './api.js';

start_state().catch(() => {});
