@echo off
rem Starts dorvel on the demo beside it: the mail directory, the letters
rem folder and a stand-in mail tool that files each send under mail\outbox.
rem No parenthesised blocks: a folder name holding ")" would end one early.
setlocal
cd /d "%~dp0"
set "ZOVOVOD=%~dp0mail"
if exist dorvel.ini goto start
rem The settings file holds Windows-1251, not the console's code page.
for /f "tokens=2 delims=:." %%c in ('chcp') do set "console=%%c"
chcp 1251 >nul
> dorvel.ini echo [Options]
>> dorvel.ini echo Letters=%~dp0letters
chcp %console: =% >nul
:start
start "" "%~dp0dorvel.exe"
