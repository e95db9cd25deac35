@echo off
rem Starts Ledgerwise.exe --watch from this file's own folder, with the
rem arguments given here (a data folder dropped onto this file is one), so a
rem double-click starts the watch. Ctrl+C or closing the window ends it.
"%~dp0Ledgerwise.exe" --watch %*
rem A watch that could not start keeps the window open for its message.
if %errorlevel% neq 0 pause
