-- Neovim's own LSP client, headless: opens LedDriver.c, waits for the
-- server's diagnostics, edits the buffer and waits for them to change.
-- Environment: SKERRY_LSP (the server), SKERRY_FILE (the file to open).
local function say(text) io.stdout:write(text .. "\n") end
local function fail(text)
  io.stdout:write("FAIL: " .. text .. "\n")
  vim.cmd("cquit 1")
end

vim.cmd("edit " .. vim.fn.fnameescape(os.getenv("SKERRY_FILE")))
local buffer = vim.api.nvim_get_current_buf()
local client = vim.lsp.start_client({
  name = "skerry-lint",
  cmd = { os.getenv("SKERRY_LSP") },
  root_dir = vim.fn.fnamemodify(os.getenv("SKERRY_FILE"), ":p:h"),
})
if not client then fail("the server did not start") end
vim.lsp.buf_attach_client(buffer, client)

local function messages()
  local found = {}
  for _, diagnostic in ipairs(vim.diagnostic.get(buffer)) do
    if diagnostic.source ~= "skerry-lint" then fail("source " .. tostring(diagnostic.source)) end
    table.insert(found, (diagnostic.lnum + 1) .. ":" .. diagnostic.col .. ": " .. diagnostic.message:gsub("\n", " | "))
  end
  table.sort(found)
  return found
end

-- Waits until the diagnostics, sorted, match the patterns one by one.
local function wait_for(what, expected)
  local function matches()
    local have = messages()
    if #have ~= #expected then return false end
    for i, pattern in ipairs(expected) do
      if not have[i]:find(pattern) then return false end
    end
    return true
  end
  if not vim.wait(30000, matches, 20) then
    fail("no " .. what .. "; have: " .. table.concat(messages(), "; "))
  end
  for _, line in ipairs(messages()) do say(what .. ": " .. line) end
end

wait_for("opened", { "^1:6: .*ucCount does not fit", "^2:6: .*ucOther does not fit" })
-- Give the first name its module prefix: one finding is left.
vim.api.nvim_buf_set_lines(buffer, 0, 1, false, { "uint8 LedDriver_ucCount;" })
wait_for("edited", { "^2:6: .*ucOther does not fit" })
-- A lower-case macro: two again.
vim.api.nvim_buf_set_lines(buffer, 0, 0, false, { "#define max_level 4u" })
wait_for("macro", { "^1:8: .*max_level does not fit", "^3:6: .*ucOther does not fit" })

vim.lsp.stop_client(client)
vim.wait(5000, function() return vim.lsp.get_client_by_id(client) == nil end, 20)
say("PASS")
vim.cmd("qall!")
