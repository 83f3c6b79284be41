// Memory for document nodes and their texts. A read creates, and a release frees, hundreds of
// thousands of small objects that mostly live and die together. They are carved one after the
// other out of 64 KiB blocks; a block counts the objects alive in it and is given back when
// the last one goes. Memory is not reused slot by slot, so a new tree lies in memory in reading
// order (walking it stays fast), at the price that one long-lived object keeps its whole block.
// Sizes above 256 bytes go to malloc.
#pragma once

#include <cstddef>

namespace quillet::node_pool {

// Memory for an object of `size` bytes, aligned to 8; throws std::bad_alloc when exhausted.
void* allocate(std::size_t size);
// The same from a separate run of blocks, for objects that mostly die soon, so that their
// blocks empty and go back instead of staying in the blocks of long-lived objects.
void* allocate_transient(std::size_t size);
// Memory for the bytes of a text, aligned to 2 only, from its own run of blocks: texts then
// take their exact size instead of a multiple of 8, and nodes stay aligned in theirs.
void* allocate_text(std::size_t size);
// Gives back memory from any of the allocate functions, or `holds` holds on it (more than one
// only for pooled memory, after retain); `size` must be the size it was allocated with.
void release(void* p, std::size_t size, std::size_t holds = 1) noexcept;
// Takes `holds` more holds on memory from any of the allocate functions, each given back by
// a release: memory is never reused while its block lives, so holders of equal immutable
// bytes can share them. False (nothing taken) for memory that is not pooled.
bool retain(void* p, std::size_t size, std::size_t holds = 1) noexcept;
// Gives the empty blocks kept for the next read back to the system, so that a program that runs
// on after a large document (the editor's server) does not hold its memory; returns how many
// bytes went back.
std::size_t release_spare_blocks() noexcept;

}  // namespace quillet::node_pool
