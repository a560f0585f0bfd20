townl_100(user,com,dir)
OBJECT user;
int com,dir;
{
int links[]={ 101,-1,200,-1,-1,-1,-1,-1,-1,-1,-1,-1 };
switch(com)
{
case 0: write_user(user,"Town Gate\n");write_user(user,"");
exits_contents(user,links,""); return 0;
case 1: return links[dir];
case 4: write_user(user,"Town Gate\n");
exits_contents(user,links,"");}return 0;}

townl_101(user,com,dir)
OBJECT user;
int com,dir;
{
int links[]={ 102,100,103,104,-1,-1,-1,-1,-1,-1,-1,-1 };
switch(com)
{
case 0: write_user(user,"Market Square of the Old Town\n");write_user(user,"");
exits_contents(user,links,""); return 0;
case 1: return links[dir];
case 4: write_user(user,"Market Square of the Old Town\n");
exits_contents(user,links,"");}return 0;}

townl_102(user,com,dir)
OBJECT user;
int com,dir;
{
int links[]={ -1,101,-1,-1,-1,-1,-1,-1,105,-1,-1,-1 };
switch(com)
{
case 0: write_user(user,"Temple Steps\n");write_user(user,"");
exits_contents(user,links,""); return 0;
case 1: return links[dir];
case 4: write_user(user,"Temple Steps\n");
exits_contents(user,links,"");}return 0;}

townl_103(user,com,dir)
OBJECT user;
int com,dir;
{
int links[]={ -1,-1,109,101,-1,-1,-1,-1,-1,-1,-1,-1 };
switch(com)
{
case 0: write_user(user,"Forest Edge of Misty Hollow\n");write_user(user,"");
exits_contents(user,links,""); return 0;
case 1: return links[dir];
case 4: write_user(user,"Forest Edge of Misty Hollow\n");
exits_contents(user,links,"");}return 0;}

townl_104(user,com,dir)
OBJECT user;
int com,dir;
{
int links[]={ -1,-1,-1,-1,-1,101,-1,-1,-1,-1,-1,-1 };
switch(com)
{
case 0: write_user(user,"Alley\n");write_user(user,"");
exits_contents(user,links,""); return 0;
case 1: return links[dir];
case 4: write_user(user,"Alley\n");
exits_contents(user,links,"");}return 0;}

townl_105(user,com,dir)
OBJECT user;
int com,dir;
{
int links[]={ -1,-1,-1,-1,-1,-1,-1,-1,-1,102,-1,-1 };
switch(com)
{
case 0: write_user(user,"Bell Tower\n");write_user(user,"");
exits_contents(user,links,""); return 0;
case 1: return links[dir];
case 4: write_user(user,"Bell Tower\n");
exits_contents(user,links,"");}return 0;}

townl_106(user,com,dir)
OBJECT user;
int com,dir;
{
int links[]={ -1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1 };
switch(com)
{
case 0: write_user(user,"Hermit Cave\n");write_user(user,"");
exits_contents(user,links,""); return 0;
case 1: return links[dir];
case 4: write_user(user,"Hermit Cave\n");
exits_contents(user,links,"");}return 0;}

