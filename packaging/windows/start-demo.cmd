@echo off
rem Starts dorvel on the demo beside it: the mail directory, the letters
rem folder and a stand-in mail tool that files each send under mail\outbox.
setlocal
cd /d "%~dp0"
set "ZOVOVOD=%~dp0mail"
if not exist dorvel.ini (
  > dorvel.ini echo [Options]
  >> dorvel.ini echo Letters=%~dp0letters
)
start "" "%~dp0dorvel.exe"
