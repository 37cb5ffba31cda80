EXPDP parfile=Parametros
COPY /y "C:\app\Veltrana\product\21c\admin\XE\dpdump\X.DMP" "E:\\Quinta\EMPRESA24-1M.DMP"
COPY /y "C:\app\Veltrana\product\21c\admin\XE\dpdump\X.DMP" "\\NAS01\Backup\Quinta\EMPRESA24-1M.DMP"
