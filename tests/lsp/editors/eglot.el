;;; Emacs with Eglot, in batch mode: opens LedDriver.c, waits for the
;;; server's diagnostics in Flymake, edits the buffer and waits for them to
;;; change.  Environment: SKERRY_LSP (the server), SKERRY_FILE (the file).
(require 'eglot)
(require 'flymake)
(require 'cl-lib)

(defun skerry-fail (text)
  (princ (format "FAIL: %s\n" text))
  (kill-emacs 1))

(defun skerry-messages ()
  (sort (mapcar (lambda (d)
                  (format "%d: %s" (line-number-at-pos (flymake-diagnostic-beg d))
                          (replace-regexp-in-string "\n" " | " (flymake-diagnostic-text d))))
                (flymake-diagnostics))
        #'string<))

(defun skerry-matches (expected)
  "Whether the diagnostics are EXPECTED: one regexp per diagnostic, in order."
  (let ((have (skerry-messages)))
    (and (= (length have) (length expected))
         (cl-every (lambda (pair) (string-match-p (car pair) (cdr pair)))
                   (cl-mapcar #'cons expected have)))))

(defun skerry-wait-for (what &rest expected)
  (let ((deadline (+ (float-time) 30)))
    (while (and (not (skerry-matches expected)) (< (float-time) deadline))
      (accept-process-output nil 0.05))
    (unless (skerry-matches expected)
      (skerry-fail (format "no %s; have: %S" what (skerry-messages))))
    (dolist (line (skerry-messages)) (princ (format "%s: %s\n" what line)))))

;; Eglot sends the changes of a buffer from an idle timer, and a batch
;; Emacs is never idle: send them as that timer would.
(defun skerry-send-changes ()
  (eglot--signal-textDocument/didChange))

(find-file (getenv "SKERRY_FILE"))
(c-mode)
(let ((dir (file-name-directory (getenv "SKERRY_FILE"))))
  (eglot '(c-mode) (cons 'transient dir) 'eglot-lsp-server (list (getenv "SKERRY_LSP")) "c"))
(unless (eglot-current-server) (skerry-fail "the server did not start"))
(skerry-wait-for "opened" "^1: .*ucCount does not fit" "^2: .*ucOther does not fit")
(goto-char (point-min))
(delete-region (point) (line-end-position))
(insert "uint8 LedDriver_ucCount;")
(skerry-send-changes)
(skerry-wait-for "edited" "^2: .*ucOther does not fit")
(goto-char (point-min))
(insert "#define max_level 4u\n")
(skerry-send-changes)
(skerry-wait-for "macro" "^1: .*max_level does not fit" "^3: .*ucOther does not fit")
(eglot-shutdown (eglot-current-server))
(princ "PASS\n")
(kill-emacs 0)
