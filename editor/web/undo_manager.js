// Undo and redo over snapshots of the whole editable state (the template body and the
// dynamic-element definitions together), so table operations and property edits undo the
// same way typing does. The manager never looks inside a snapshot except through `same`.

export class UndoManager {
  // `limit` bounds the number of kept snapshots and `max_weight` their summed `weight`
  // (characters), so a large template keeps fewer steps; `same(a, b)` tells equal snapshots.
  constructor({ limit = 200, max_weight = Infinity, weight = () => 0,
    same = (a, b) => JSON.stringify(a) === JSON.stringify(b) } = {}) {
    this.limit = limit;
    this.max_weight = max_weight;
    this.weight = weight;
    this.same = same;
    this.reset(null);
  }

  // Starts over with `snapshot` as the only state (a document was opened or made).
  reset(snapshot) {
    this.states = snapshot === null ? [] : [{ snapshot, group: null }];
    this.index = this.states.length - 1;
  }

  // Records the state after a change. A snapshot in the same non-null `group` as the current
  // one replaces it (a run of typing is one step); an unchanged snapshot records nothing.
  // Returns true when a step was added or replaced.
  record(snapshot, group = null) {
    const top = this.states[this.index];
    if (top && this.same(top.snapshot, snapshot)) return false;
    this.states.length = this.index + 1;
    if (top && group !== null && top.group === group && this.index > 0) {
      this.states[this.index] = { snapshot, group };
      return true;
    }
    this.states.push({ snapshot, group });
    this.trim();
    this.index = this.states.length - 1;
    return true;
  }

  // Drops the oldest snapshots while there are too many or they weigh too much; the newest
  // two always stay, so the last change can be undone.
  trim() {
    let total = this.states.reduce((sum, s) => sum + this.weight(s.snapshot), 0);
    while (this.states.length > 2 && (this.states.length > this.limit || total > this.max_weight)) {
      total -= this.weight(this.states.shift().snapshot);
    }
  }

  can_undo() { return this.index > 0; }
  can_redo() { return this.index < this.states.length - 1; }

  // Returns the snapshot to restore for one step back, or null at the oldest state.
  undo() {
    if (!this.can_undo()) return null;
    this.index--;
    this.states[this.index].group = null;
    return this.states[this.index].snapshot;
  }

  // Returns the snapshot to restore for one step forward, or null at the newest state.
  redo() {
    if (!this.can_redo()) return null;
    this.index++;
    this.states[this.index].group = null;
    return this.states[this.index].snapshot;
  }
}
