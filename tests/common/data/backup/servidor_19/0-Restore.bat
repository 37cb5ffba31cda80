rem COPY /y "D:\Quinta\X.DMP" "C:\app\Veltrana\product\21c\admin\XE\dpdump\X.DMP"
rem SQLPLUS @Drop_Create_User.sql
rem IMPDP parfile=Parametros
rem PAUSE
