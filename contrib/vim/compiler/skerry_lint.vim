" Vim compiler plugin for Skerry_Lint, the naming checker for C source trees.
" Installed to share/vim/vimfiles/compiler/ (in Vim's runtime path on Debian;
" from a source tree copy it to ~/.vim/compiler/), then  :compiler skerry_lint
" and  :make  (checks the current directory) or  :make src  (checks src).
" Diagnostic lines read  path(line): error style: message ; every other line
" of the checker's output (banner, progress lines, closing line) is dropped.
" Line 0 stands for the file as a whole.
if exists("current_compiler")
  finish
endif
let current_compiler = "skerry_lint"

if exists(":CompilerSet") != 2
  command -nargs=* CompilerSet setlocal <args>
endif

CompilerSet makeprg=Skerry_Lint
CompilerSet errorformat=%f(%l):\ error\ style:\ %m,%-G%.%#
