-- Lua peer of the expression benchmark: s = 0; for i = 1 to 1000000 do s = s + i, with a
-- float sum (the template language's "+" gives a float) in local variables.
-- Usage: lua5.4 eval_loop.lua [REPS] -> "lua ns ns ..." per repetition, from os.clock (CPU time)
local n, reps = 1000000, tonumber(arg[1] or "20")
local line = { "lua" }
for _ = 1, reps do
  local started = os.clock()
  local s = 0.0
  for i = 1, n do
    s = s + i
  end
  local elapsed = os.clock() - started
  if s ~= 500000500000.0 then
    error("bad sum " .. s)
  end
  line[#line + 1] = string.format("%.3f", elapsed * 1e9 / n)
end
print(table.concat(line, " "))
