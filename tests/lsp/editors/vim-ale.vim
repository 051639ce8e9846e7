" Vim with ALE (Debian's vim-ale) as the server's client: started on
" LedDriver.c with the README's configuration as its .vimrc and the server
" on PATH, this runs once Vim is up (from a timer). It waits for the
" server's diagnostics, edits the buffer and waits for them to change.
" Environment: SKERRY_OUT (where the results go; Vim's own screen output is
" not readable text).
call writefile([], $SKERRY_OUT)
function! s:Say(text) abort
  call writefile([a:text], $SKERRY_OUT, 'a')
endfunction
function! s:Fail(text) abort
  call s:Say('FAIL: ' . a:text)
  cquit 1
endfunction

let s:buffer = bufnr('%')

function! s:Messages() abort
  let l:found = []
  for l:item in ale#engine#GetLoclist(s:buffer)
    if l:item.linter_name !=# 'skerry_lint'
      call s:Fail('linter ' . l:item.linter_name)
    endif
    call add(l:found, l:item.lnum . ':' . l:item.col . ': ' . l:item.code . ' ' . l:item.text)
  endfor
  return sort(l:found)
endfunction

" Waits until the diagnostics, sorted, match the patterns one by one.
function! s:WaitFor(what, expected) abort
  let l:waited = 0
  while 1
    let l:have = s:Messages()
    if len(l:have) == len(a:expected)
          \ && empty(filter(range(len(l:have)), {i -> l:have[i] !~# a:expected[i]}))
      break
    endif
    if l:waited >= 30000
      call s:Fail('no ' . a:what . '; have: ' . join(l:have, '; '))
    endif
    sleep 20m
    let l:waited += 20
  endwhile
  for l:line in l:have
    call s:Say(a:what . ': ' . l:line)
  endfor
endfunction

call s:WaitFor('opened', ['^1:7: name-form .*ucCount does not fit', '^2:7: name-form .*ucOther does not fit'])
" Give the first name its module prefix: one finding is left. ALE sends the
" buffer's text when it lints, which text changes in a batch do not start.
call setline(1, 'uint8 LedDriver_ucCount;')
ALELint
call s:WaitFor('edited', ['^2:7: name-form .*ucOther does not fit'])
" A lower-case macro: two again.
call append(0, '#define max_level 4u')
ALELint
call s:WaitFor('macro', ['^1:9: macro-name-form .*max_level does not fit', '^3:7: name-form .*ucOther does not fit'])

ALEStopAllLSPs
call s:Say('PASS')
qall!
